BSF apron lights (sample data)
